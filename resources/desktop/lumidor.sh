#!/bin/sh
# Starts the installed program with the arguments given; the program folder is found relative
# to this script, so a moved or copied install tree still works.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/lumidor/Lumidor" "$@"
