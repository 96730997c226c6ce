#!/bin/sh
# The layer check must refuse a screen file that reaches up into the application.
set -e
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/src/screen" "$dir/src/app" "$dir/tools"
cp "$(dirname "$0")/layers.txt" "$(dirname "$0")/check-layers.py" "$dir/tools/"
printf '#pragma once\n' > "$dir/src/app/dispatch.h"
printf '#include "app/dispatch.h"\n' > "$dir/src/screen/grid.cpp"
if python3 "$dir/tools/check-layers.py" "$dir"; then
    echo "the layer check accepted an include against the layers"
    exit 1
fi
echo "the layer check refused it, as it should"
