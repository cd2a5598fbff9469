#!/usr/bin/env bash
# Runs the embedded-browser benchmark under Wine: bench/browser/run.sh [build-root]
exec "$(dirname "$0")/../run-under-wine.sh" bench_browser "$@"
