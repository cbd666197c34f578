#!/usr/bin/env bash
# The web page's tests: builds the site with its test data, serves it on localhost, and
# drives the system's chromium headless through puppeteer-core (web/package.json,
# installed with `npm ci` from its lock file) against the native tool's frames and blocks.
#   test-web.sh            (QELV_NATIVE_TOOL: the qelv to compare with; build/native/qelv)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tool=${QELV_NATIVE_TOOL:-$root/build/native/qelv}
[ -x "$tool" ] || { echo "no native tool at $tool: build it first (cmake --build build/native --target qelv)" >&2; exit 1; }
site=$root/build/web/test-site
work=$(mktemp -d)
server=

cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$root/scripts/build-web.sh" "$site"
data=$site/test-data
mkdir -p "$data"
cp tests/data/demo-2s.qsb tests/data/presets/truncated-header.qlp "$data/"
head -c 1000 tests/data/demo-2s.qsb >"$data/cut.qsb"

# npm ci installs exactly the lock file's packages; it runs again only when that changes.
if ! cmp -s web/package-lock.json web/node_modules/.installed-lock.json 2>/dev/null; then
  (cd web && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.installed-lock.json)
fi

"$root/scripts/serve-web.sh" 0 "$site" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 100); do
  grep -q '^Qelv' "$work/server.log" && break
  sleep 0.1
done
address=$(sed -n 's/^Qelv.*: \(http:[^ ]*\)\/index.html$/\1/p' "$work/server.log")
[ -n "$address" ] || { cat "$work/server.log" >&2; echo "the page's server did not start" >&2; exit 1; }
node web/tests/run.mjs "$address" "$site" "$tool" "$work"
