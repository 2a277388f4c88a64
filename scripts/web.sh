#!/usr/bin/env bash
# Builds ORVEN Clone for the browser into build-web/site/: static files only, with relative paths,
# so any static host serves them. Installs what it needs first (emscripten, Node.js and npm from
# Debian unless a node and npm are already there, chromium, zip and unzip for the browser tests; the
# page's npm packages with `npm ci`).
#   ./scripts/web.sh           build, and say how to open it
#   ./scripts/web.sh --serve   build, then serve it on http://127.0.0.1:8080 (Ctrl-C stops)
#   ./scripts/web.sh --test    build, then run the bindings' and the page's tests
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-}"
case "$mode" in ""|--serve|--test) ;; *) echo "usage: $0 [--serve|--test]" >&2; exit 2 ;; esac

packages=(emscripten cmake ninja-build nlohmann-json3-dev chromium zip unzip)
# A node and npm of another origin (say a newer Node.js) are kept: Debian's npm would replace them.
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's emscripten finds its own JavaScript modules through NODE_PATH when the node on the
# PATH is not Debian's.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
(cd web && npm ci --no-audit --no-fund --loglevel=error)
emcmake cmake -S web -B build-web/wasm -G Ninja -DORVEN_WERROR=ON >/dev/null
cmake --build build-web/wasm -j"$(nproc)"
(cd web && npx tsc --noEmit -p .)
node web/build.mjs build-web/wasm build-web/site
size=$(cat build-web/site/* | gzip -9 | wc -c)
echo "web: build-web/site/ holds $(du -sk build-web/site | cut -f1) KB, $((size / 1024)) KB compressed"

case "$mode" in
  --serve)
    exec node web/serve.mjs build-web/site 8080 ;;
  --test)
    ORVEN_WEB_WASM="$PWD/build-web/wasm" ORVEN_WEB_SITE="$PWD/build-web/site" \
      node --test --test-concurrency=1 web/tests/ ;;
  *)
    echo "web: open it with ./scripts/web.sh --serve, then http://127.0.0.1:8080/ in Chrome, Edge or Opera"
    echo "     (http://127.0.0.1:8080/?demo starts on the demo radio; Firefox and Safari lack Web Serial)" ;;
esac
