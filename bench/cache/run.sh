#!/usr/bin/env bash
# Runs the cache-cleaning benchmark under Wine: bench/cache/run.sh [build-root]
exec "$(dirname "$0")/../run-under-wine.sh" bench_cache "$@"
