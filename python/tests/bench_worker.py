"""What the tests run in a process of its own on another bench (see
conftest.BenchProcess): each function opens what it needs, does the calls
and returns plain results for the test to check."""
import os
import warnings


def use_bench(path: str) -> None:
    os.environ["SORVI_BENCH"] = path
    warnings.simplefilter("error")  # an unexpected driver warning fails the call


def scan():
    import sorvi

    return [(c.resource, c.label, c.positions) for c in sorvi.scan()]


def capture(resource, position, mode, **arguments):
    """The frames of one acquire() call with the relays on."""
    import sorvi

    with sorvi.open(resource, position) as module:
        module.relays = True
        return module.acquire(mode, **arguments)


def stream(resource, position, frames, **arguments):
    """Chunks of a stream until at least `frames` frames came, and whether
    the module still ran after the loop."""
    import sorvi

    with sorvi.open(resource, position) as module:
        module.relays = True
        chunks = []
        for chunk in module.stream(**arguments):
            chunks.append(chunk)
            if sum(map(len, chunks)) >= frames:
                break
        return chunks, module.running


def slow_stream(resource, position, pause, **arguments):
    """A stream whose loop takes `pause` seconds a chunk: how many frames
    came, and the error that ended it."""
    import time

    import sorvi

    with sorvi.open(resource, position) as module:
        module.relays = True
        taken = 0
        try:
            for chunk in module.stream(**arguments):
                taken += len(chunk)
                time.sleep(pause)
        except sorvi.Error as error:
            return taken, type(error).__name__, str(error), module.memory, module.running
    return taken, None, "", module.memory, module.running


def every_setting(resource, position):
    """Thresholds, relays, period, self-test and one frame on a module."""
    import sorvi

    with sorvi.open(resource, position) as module:
        module.thresholds = (-1.0, 3.02)
        thresholds = module.thresholds
        module.threshold = 2.0
        module.relays = True
        module.period = 1e-4
        sample = module.read_sample()
        settings = (thresholds, module.threshold, module.relays, module.period, module.mode)
        return settings, sample, module.self_test(), module.relays
