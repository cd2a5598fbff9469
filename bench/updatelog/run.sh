#!/usr/bin/env bash
# Runs the version-check benchmark under Wine: bench/updatelog/run.sh [build-root]
exec "$(dirname "$0")/../run-under-wine.sh" bench_updatelog "$@"
