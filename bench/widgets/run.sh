#!/usr/bin/env bash
# Runs the image-button repaint benchmark under Wine: bench/widgets/run.sh [build-root]
exec "$(dirname "$0")/../run-under-wine.sh" bench_widgets "$@"
