#!/usr/bin/env bash
# Runs a command with HOME, XDG_DATA_HOME, XDG_CONFIG_HOME, XDG_CACHE_HOME and
# TMPDIR pointing into a fresh, empty folder made for this run and removed
# after it, so that nothing an earlier run left behind can help or hinder it.
set -euo pipefail
fresh=$(mktemp -d "${TMPDIR:-/tmp}/gearledger-run.XXXXXX")
trap 'chmod -R u+rwx "$fresh" 2>/dev/null; rm -rf "$fresh"' EXIT
mkdir -p "$fresh/home" "$fresh/data" "$fresh/config" "$fresh/cache" "$fresh/tmp"
HOME="$fresh/home" XDG_DATA_HOME="$fresh/data" XDG_CONFIG_HOME="$fresh/config" \
    XDG_CACHE_HOME="$fresh/cache" TMPDIR="$fresh/tmp" "$@"
