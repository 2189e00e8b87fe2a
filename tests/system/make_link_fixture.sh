#!/bin/sh
# Host-made fixtures for the Windows tests: directory links (Wine shows them
# as reparse points) and a drive letter V: whose root is a scratch folder.
set -e
fixture=$1
prefix=$2
rm -rf "$fixture"
mkdir -p "$fixture/tree/sub" "$fixture/outside/more" "$fixture/vroot"
echo k > "$fixture/outside/keep.txt"
echo k > "$fixture/outside/more/keep2.txt"
echo f > "$fixture/tree/sub/file.txt"
ln -s ../outside "$fixture/tree/link"
ln -s outside "$fixture/toplink"
echo k > "$fixture/vroot/keep.txt"
mkdir -p "$prefix/dosdevices"
ln -sfn "$fixture/vroot" "$prefix/dosdevices/v:"
