#!/usr/bin/env bash
# sobolseq as a Python user gets it: pip builds and installs it offline into a fresh virtual
# environment, and the Python tests run against the installed package from outside the source
# tree, with no PYTHONPATH and no PLX_KERNEL_PATH. The wheel is built as well.
# Usage: kernels/python/pip_install_test.sh
set -euo pipefail
kernels=$(cd "$(dirname "$0")/.." && pwd)
python=${PYTHON:-/usr/bin/python3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset PYTHONPATH PLX_KERNEL_PATH
fail() {
  echo "pip_install_test: $*" >&2
  exit 1
}

# A copy of the sources without earlier build output: the build starts fresh and the tree
# stays clean.
cp -R "$kernels" "$work/kernels"
rm -rf "$work/kernels/build" "$work/kernels/dist" "$work"/kernels/*.egg-info
cp "$kernels"/python/*_test.py "$work/"

echo "== pip install --no-build-isolation into a virtual environment"
"$python" -m venv --system-site-packages "$work/venv"
venv_python=$work/venv/bin/python
"$venv_python" -m pip install --quiet --no-build-isolation --no-index --no-cache-dir \
  "$work/kernels"

echo "== the wheel"
"$python" -m build --no-isolation --wheel --outdir "$work/dist" "$work/kernels" >"$work/build.log" 2>&1 ||
  { cat "$work/build.log"; fail "the wheel was not built"; }
listing=$("$python" -m zipfile -l "$work"/dist/sobolseq-*.whl)
for file in sobolseq/kernels/Gormik.so sobolseq/py.typed sobolseq/__init__.pyi \
  sobolseq/sobol_direction_numbers.tsv; do
  grep -q "^$file " <<<"$listing" || fail "the wheel lacks $file"
done

echo "== the tests against the installed package"
rm -rf "$work/kernels"
cd "$work"
"$venv_python" - "$work/venv" <<'PY'
import os, sys
import sobolseq
venv = os.path.realpath(sys.argv[1])
for path in (sobolseq.__file__, sobolseq._KERNEL_DIR):
    if not os.path.realpath(path).startswith(venv + os.sep):
        sys.exit(f"{path} is not in the virtual environment")
PY
"$venv_python" -m pytest -q -p no:cacheprovider ./*_test.py
echo "pip_install_test: the installed package passes"
