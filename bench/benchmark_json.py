"""Runs one of our benchmark programs and gives its results, for the numpy drivers beside it."""

import json
import os
import subprocess
import tempfile

_UNIT = {"ms": 1e-3, "us": 1e-6, "ns": 1e-9, "s": 1.0}


def run(program, *arguments):
    """The program's benchmarks as (name, seconds, record): name as Google Benchmark reports it,
    seconds the real time of one iteration, record the benchmark's whole JSON entry."""
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "report.json")
        subprocess.run([program, *arguments, f"--benchmark_out={out}", "--benchmark_out_format=json"],
                       check=True, capture_output=True, text=True)
        with open(out, encoding="utf-8") as f:
            report = json.load(f)
    return [(b["name"], b["real_time"] * _UNIT[b["time_unit"]], b) for b in report["benchmarks"]]
