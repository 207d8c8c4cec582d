#!/bin/sh
# Regenerates the sample traces with the project's generator. Run from the repository root after
# building sortool (cmake --build build --target sortool); pass another build folder as $1.
# link-12fibres.opm, the power-meter sample, is written by hand (Windows-1252 text) and not remade.
set -e
sortool="${1:-build}/bin/sortool"
"$sortool" gen --preset patch samples/patch-2km-1310.sor
"$sortool" gen --preset link samples/link-40km-1550.sor
"$sortool" gen --preset long samples/long-120km-1550.sor
