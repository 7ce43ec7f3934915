#!/bin/bash
# The judge's page in Debian's chromium, headless, driven by playwright-core from the npm registry.
# Arguments: the harness executable and a folder of the build tree for the npm package.
set -u
harness=$1
folder=$2
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x /usr/bin/chromium ]; then
  echo "SKIP: /usr/bin/chromium is not installed"
  exit 77
fi
if ! command -v npm >/dev/null || ! command -v node >/dev/null; then
  echo "SKIP: node or npm is not installed"
  exit 77
fi
mkdir -p "$folder"
if [ ! -f "$folder/node_modules/playwright-core/package.json" ]; then
  ( cd "$folder" && [ -f package.json ] || echo '{"name":"quelmora-judge-page-test","private":true}' > package.json
    npm install --no-audit --no-fund --loglevel=error playwright-core@1.65.2 ) || {
    echo "FAIL: npm could not install playwright-core"
    exit 1
  }
fi
exec node "$here/judge_page.mjs" "$harness" "$folder"
