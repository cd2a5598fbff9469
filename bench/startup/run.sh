#!/usr/bin/env bash
# Runs the start-up benchmark under Wine: bench/startup/run.sh [build-root]
exec "$(dirname "$0")/../run-under-wine.sh" bench_startup "$@"
