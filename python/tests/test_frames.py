"""Channel states of frames, and result files in the soft front panel's
format, checked against a file the panel itself wrote."""
import os
import pathlib
import subprocess

import numpy as np
import pytest

import sorvi

from conftest import COUNTING_BENCH, HERE, assert_counts

TREE = HERE.parents[1]
PANELHOST = pathlib.Path(os.environ.get("SORVI_TEST_BIN", TREE / "build" / "default" / "bin")) / "panelhost"


class TestBits:
    def test_column_k_minus_1_is_channel_k(self):
        states = sorvi.bits(np.array([1, 1 << 31, 0x0000FFFF, 0], dtype=np.uint32))
        assert states.shape == (4, 32) and states.dtype == bool
        assert np.flatnonzero(states[0]).tolist() == [0]
        assert np.flatnonzero(states[1]).tolist() == [31]
        assert np.flatnonzero(states[2]).tolist() == list(range(16))
        assert not states[3].any()

    def test_one_frame_and_plain_lists(self):
        assert np.flatnonzero(sorvi.bits(0x80000005)).tolist() == [0, 2, 31]
        assert sorvi.bits([3, 4]).shape == (2, 32)

    @pytest.mark.parametrize("frames, error", [([-1], ValueError), ([1 << 32], ValueError), ([1.5], TypeError),
                                               (["1"], TypeError)])
    def test_what_is_not_a_frame(self, frames, error):
        with pytest.raises(error):
            sorvi.bits(frames)


class TestResultFiles:
    def test_little_endian_words_appended_run_after_run(self, tmp_path):
        path = tmp_path / "run.sorvi"
        assert sorvi.save([0x04030201, 0xA0B0C0D0], path) == 2
        sorvi.save(np.array([7], dtype=np.uint32), str(path))
        assert path.read_bytes() == bytes([1, 2, 3, 4, 0xD0, 0xC0, 0xB0, 0xA0, 7, 0, 0, 0])
        assert sorvi.load(path).tolist() == [0x04030201, 0xA0B0C0D0, 7]
        sorvi.save([5], path, append=False)
        assert sorvi.load(path).tolist() == [5]

    def test_a_file_cut_inside_a_frame_is_refused(self, tmp_path):
        path = tmp_path / "cut.sorvi"
        path.write_bytes(bytes(10))
        with pytest.raises(ValueError, match="10 bytes"):
            sorvi.load(path)

    def test_bad_frames_write_nothing(self, tmp_path):
        path = tmp_path / "run.sorvi"
        with pytest.raises(ValueError):
            sorvi.save([1, -2], path)
        assert not path.exists()

    @pytest.mark.skipif(not PANELHOST.exists(), reason="panelhost is not built")
    def test_round_trip_of_a_file_the_panel_wrote(self, tmp_path):
        # Two runs on the counting bench, appended by the panel to one file.
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([PANELHOST, "--bench", COUNTING_BENCH, "--script", HERE / "scripts" / "panel_two_runs.tks"],
                             cwd=tmp_path, env=environment, capture_output=True, text=True, timeout=60)
        assert run.returncode == 0, run.stdout + run.stderr
        written = tmp_path / "run.sorvi"
        frames = sorvi.load(written)
        assert frames.dtype == np.uint32
        # Each run counts on; the second starts later, so the count jumps once.
        jumps = np.flatnonzero(np.diff(frames.astype(np.int64) & 0xFFFF) % 65536 != 1) + 1
        assert len(jumps) == 1 and 4000 < jumps[0] < len(frames) - 2000
        assert_counts(frames[:jumps[0]])
        assert_counts(frames[jumps[0]:])
        copy = tmp_path / "copy.sorvi"
        sorvi.save(frames, copy)
        assert copy.read_bytes() == written.read_bytes()
