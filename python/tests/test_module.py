"""Opening modules, their settings and their single frames on the default
bench, and what the driver refuses."""
import math
import warnings

import pytest

import sorvi
from sorvi import _driver, status

from conftest import CARRIER

# Position 3 of the default bench: channel k (1 to 30) sits at -9 V + 0.55 V * k.
LEVELS = {k: -9.0 + 0.55 * k for k in range(1, 31)}


def frame_at(thresholds):
    """The frame channels 1-30 of position 3 read at (group 1, group 2)."""
    return sum(1 << (k - 1) for k, volts in LEVELS.items() if volts > thresholds[(k - 1) // 16])


class TestOpening:
    @pytest.mark.parametrize("resource, position, code", [
        (CARRIER, 2, status.VI_ERROR_FAIL_ID_QUERY),  # a module of another type
        (CARRIER, 0, status.VI_ERROR_PARAMETER2),
        (CARRIER, 5, status.VI_ERROR_PARAMETER2),
    ])
    def test_refused_with_the_drivers_status(self, resource, position, code):
        with pytest.raises(sorvi.DriverError) as refused:
            sorvi.open(resource, position)
        assert refused.value.status == code
        assert refused.value.operation == "lumex_init"
        assert f"{resource} position {position}" in str(refused.value)
        assert refused.value.message  # the driver's text for it

    def test_a_position_without_a_module(self):
        with pytest.raises(sorvi.DriverError) as refused:
            sorvi.open(CARRIER, 4)
        assert refused.value.status < 0 and refused.value.message
        assert _driver.open_carriers() == []  # the carrier session opened for it was let go

    def test_a_carrier_that_is_not_there(self):
        with pytest.raises(sorvi.DriverError) as refused:
            sorvi.open("VXI0::99::INSTR", 1)
        assert refused.value.operation == "tarvo_init"

    def test_a_position_that_does_not_fit_the_driver_is_not_cut_to_one_that_does(self):
        with pytest.raises(OverflowError):
            sorvi.open(CARRIER, 65537)  # 65537 would reach the driver as 1

    def test_two_modules_share_one_carrier_and_one_position_opens_once(self):
        with sorvi.open(CARRIER, 1) as first, sorvi.open(CARRIER, 3) as second:
            assert first.carrier_session == second.carrier_session
            first.relays = True
            second.relays = True  # opening the second did not reset the carrier under the first
            assert first.relays
            with pytest.raises(sorvi.DriverError):
                sorvi.open(CARRIER, 1)
            assert not first.closed


class TestSettings:
    def test_thresholds_as_the_driver_rounds_them(self, module):
        module.threshold = 0.11
        assert module.thresholds == (0.15, 0.15)
        module.thresholds = (-0.11, 3.0)
        assert module.thresholds == (-0.1, 3.0)
        assert module.threshold == -0.1  # group 1's

    @pytest.mark.parametrize("setting, value", [
        ("threshold", 10.000001), ("threshold", math.nan), ("period", 0.00005), ("period", 1.5),
        ("period", math.inf), ("relays", 2),
    ])
    def test_out_of_range_is_refused_by_the_driver_and_changes_nothing(self, module, setting, value):
        before = getattr(module, setting)
        with pytest.raises(sorvi.DriverError) as refused:
            setattr(module, setting, value)
        assert refused.value.status == status.VI_ERROR_PARAMETER2
        assert getattr(module, setting) == before

    def test_a_group_threshold_out_of_range(self, module):
        with pytest.raises(sorvi.DriverError) as refused:
            module.thresholds = (2.0, -10.5)
        assert refused.value.status == status.VI_ERROR_PARAMETER2
        assert refused.value.operation == "lumex_set_porog_group"

    def test_wrong_kinds_of_values(self, module):
        with pytest.raises(TypeError):
            module.threshold = "2.0"
        with pytest.raises(TypeError):
            module.thresholds = 2.0
        with pytest.raises(TypeError):
            module.relays = 1.0

    def test_relays_by_group(self, module):
        assert module.relay_groups == (False, False)  # off after opening
        module.relay_groups = (True, False)
        assert module.relay_groups == (True, False) and not module.relays
        module.relays = True
        assert module.relay_groups == (True, True) and module.relays

    def test_repr_says_where_and_how(self, module):
        module.thresholds = (1.5, 3.0)
        module.period = 0.001
        module.relay_groups = (True, False)
        text = repr(module)
        for part in ("VXI0::24::INSTR position 1", "1.5 V / 3 V", "0.001 s", "single mode",
                     "group 1 on, group 2 off", "stopped"):
            assert part in text
        module.close()
        assert repr(module) == "<sorvi.Module VXI0::24::INSTR position 1, closed>"


class TestFrames:
    def test_thresholds_reach_the_module_by_group(self):
        with sorvi.open(CARRIER, 3) as module:
            module.relays = True
            for thresholds in ((0.0, 0.0), (-5.0, 5.0), (-9.9, 9.9)):
                module.thresholds = thresholds
                assert module.read_sample() & 0x3FFFFFFF == frame_at(thresholds)
                frames = module.acquire("block", period=1e-4, frames=10)
                assert all(frame & 0x3FFFFFFF == frame_at(thresholds) for frame in frames)

    def test_a_run_with_the_relays_off_warns(self, module):
        with pytest.warns(sorvi.DriverWarning) as caught:
            module.read_sample()
        warning = caught[0].message
        assert warning.status == status.LUMEX_WARN_RELAYS_OFF
        assert warning.message == "Предупреждение : не включены входные реле"
        assert caught[0].filename == __file__  # pointed at the caller, not the package

    def test_self_test_passes_and_leaves_the_module_reset(self, module):
        module.relays = True
        module.threshold = 5.0
        assert module.self_test() == (0, "Самоконтроль завершен успешно")
        assert module.relay_groups == (False, False)
        assert module.thresholds == (2.0, 2.0)

    def test_a_failed_self_test_is_a_result(self, module, bench):
        bench(f"at {CARRIER} 1 stuck 1 low")
        result, message = module.self_test()
        assert result == 3
        assert message == "Не проходит сигнал логической 1. Прочитано 0xfffffffe"


class TestClosed:
    def test_every_use_after_close_is_refused(self):
        module = sorvi.open(CARRIER, 1)
        module.close()
        module.close()  # a second close does nothing
        for use in (lambda: module.threshold, lambda: setattr(module, "period", 0.001), module.read_sample,
                    module.self_test, lambda: module.acquire("block", frames=10), lambda: module.stream()):
            with pytest.raises(sorvi.ModuleClosedError) as refused:
                use()
            assert refused.value.status == status.VI_ERROR_INV_SETUP
            assert "VXI0::24::INSTR position 1 is closed" in str(refused.value)

    def test_leaving_the_with_block_closes_and_frees_the_position(self):
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            with sorvi.open(CARRIER, 1) as module:
                module.relays = True
            assert module.closed
            with sorvi.open(CARRIER, 1) as again:
                assert again.relay_groups == (False, False)
