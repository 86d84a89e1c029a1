"""Captures and streams on a bench whose modules count, so that every frame
shows whether it came once and in order; and what acquire() refuses."""
import numpy as np
import pytest

import sorvi
from sorvi import status

import bench_worker
from conftest import CARRIER, assert_counts

SMALL_CARRIER = "VXI0::32::INSTR"  # 4096 frames of memory reserved


class TestOnTheCountingBench:
    @pytest.mark.parametrize("mode, arguments, frames, step", [
        ("block", dict(period=1e-4, frames=3000), 3000, 1),
        ("block", dict(period=1e-3, duration=0.2), 200, 10),
        ("cycle", dict(period=1e-4, frames=2500, packet=1000), 2500, 1),
        ("cycle", dict(period=1e-4, duration=0.25, packet=100, interrupts=True), 2500, 1),
    ])
    def test_captures_count(self, counting, mode, arguments, frames, step):
        captured = counting.call(bench_worker.capture, CARRIER, 1, mode, **arguments)
        assert captured.dtype == np.uint32 and len(captured) == frames
        assert_counts(captured, step)

    def test_single_frames_come_one_poll_each_in_order(self, counting):
        captured = counting.call(bench_worker.capture, CARRIER, 1, "single", period=1e-3, frames=20)
        assert len(captured) == 20
        low = captured.astype(np.int64) & 0xFFFF
        assert np.all(np.diff(low) % 65536 > 0)

    @pytest.mark.parametrize("interrupts", [False, True])
    def test_a_stream_delivers_whole_packets_each_frame_once(self, counting, interrupts):
        chunks, running_after = counting.call(bench_worker.stream, CARRIER, 1, 3000, period=1e-4, packet=500,
                                              interrupts=interrupts)
        assert all(len(chunk) % 500 == 0 and chunk.dtype == np.uint32 for chunk in chunks)
        assert_counts(np.concatenate(chunks))
        assert not running_after

    def test_a_stream_not_read_in_time_ends_with_data_lost(self, counting):
        taken, error, text, memory, running = counting.call(bench_worker.slow_stream, SMALL_CARRIER, 1, 0.6,
                                                            period=1e-4, packet=500)
        assert error == "DataLostError" and not running
        assert memory < taken <= memory + 1000  # the frames held when it stopped came first
        assert f"{SMALL_CARRIER} position 1" in text

    def test_every_setting_on_the_counting_bench(self, counting):
        settings, sample, self_test, relays_after = counting.call(bench_worker.every_setting, CARRIER, 1)
        assert settings == ((-1.0, 3.05), 2.0, True, 1e-4, "single")
        assert sample & 0xFFFF == sample >> 16
        assert self_test == (0, "Самоконтроль завершен успешно")
        assert not relays_after

    def test_scan_lists_this_bench(self, counting):
        assert counting.call(bench_worker.scan) == [
            (CARRIER, "Н.М.  Л.А.крейта:0x00, слот:3  (VXI0::24::INSTR)", {1: "СОРВИ", 2: "модуль типа 5"}),
            (SMALL_CARRIER, "Н.М.  Л.А.крейта:0x00, слот:4  (VXI0::32::INSTR)", {1: "СОРВИ"}),
        ]


class TestRefused:
    def test_a_block_larger_than_the_memory_is_refused_by_the_carrier(self, module):
        with pytest.raises(sorvi.DriverError) as refused:
            module.acquire("block", frames=module.memory + 1)
        assert refused.value.status == status.VI_ERROR_ALLOC
        assert not module.running

    def test_a_period_out_of_range_stops_before_the_run(self, module):
        with pytest.raises(sorvi.DriverError) as refused:
            module.acquire("cycle", period=2.0, frames=10)
        assert refused.value.status == status.VI_ERROR_PARAMETER2
        with pytest.raises(sorvi.DriverError):
            module.stream(period=0.00001)
        assert not module.running

    @pytest.mark.parametrize("arguments, error", [
        (dict(mode="burst", frames=10), ValueError),
        (dict(mode="block", frames=0), ValueError),
        (dict(mode="block", duration=0.00001), ValueError),
        (dict(mode="block", frames=10, duration=1.0), TypeError),
        (dict(mode="cycle"), TypeError),
        (dict(mode="block", frames=2 ** 31), OverflowError),
    ])
    def test_what_a_capture_cannot_be(self, module, arguments, error):
        with pytest.raises(error):
            module.acquire(**arguments)
        assert not module.running
