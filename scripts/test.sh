#!/bin/sh
# Sets the machine up, checks that every C++ file is laid out as .clang-format says,
# then builds and runs every test: first the tests labelled
# "sanitize" (the headless layers) under AddressSanitizer and UndefinedBehaviorSanitizer,
# then the whole suite in Release. Ends with CTest's summary line; exits non-zero when any test failed.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup-debian.sh" || exit 1
jobs=$(nproc 2>/dev/null || echo 4)

echo "== Format check"
formatted=0
"$top/scripts/check-format.sh" || formatted=1

echo "== Sanitizer build (tests of the headless layers)"
sanitized=0
if "$top/scripts/build.sh" build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQB_SANITIZE=ON; then
  (cd "$top/build-sanitize" && ctest --output-on-failure -j "$jobs" -L sanitize) || sanitized=1
else
  sanitized=1
fi

echo "== Release build (every test)"
"$top/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release || exit 1
cd "$top/build" || exit 1
if [ "$sanitized" -ne 0 ]; then
  echo "The sanitizer run failed (see above)."
fi
if [ "$formatted" -ne 0 ]; then
  echo "The format check failed (see above)."
fi
ctest --output-on-failure -j "$jobs"
status=$?
[ "$sanitized" -eq 0 ] || exit 1
[ "$formatted" -eq 0 ] || exit 1
exit $status
