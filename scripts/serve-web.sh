#!/usr/bin/env bash
# Serves the web page that scripts/build-web.sh wrote, on localhost, and prints its address.
#   serve-web.sh [PORT] [SITE]      (port 8026 unless given; 0 takes a free one)
set -euo pipefail
port=${1:-8026}
site=$(realpath -m "${2:-$(dirname "$0")/../build/web/site}")
[ -f "$site/index.html" ] || { echo "no page in $site: run scripts/build-web.sh first" >&2; exit 1; }
exec python3 -u - "$port" "$site" <<'PY'
import functools, http.server, sys
port, site = int(sys.argv[1]), sys.argv[2]
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=site)
# The module must come as application/wasm for the browser to compile it while it loads.
handler.func.extensions_map[".wasm"] = "application/wasm"
handler.func.log_message = lambda *args: None
with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
    print(f"Qelv's page: http://127.0.0.1:{server.server_address[1]}/index.html", flush=True)
    server.serve_forever()
PY
