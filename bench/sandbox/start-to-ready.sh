#!/usr/bin/env bash
# Times the sandbox program from launch to "ready" and from SIGTERM to exit, a few times, and
# checks that each stop leaves neither its chat server's process nor its ports behind.
# Usage: bench/sandbox/start-to-ready.sh PATH-TO-tovrin-sandbox [RUNS]
set -euo pipefail
program="$1"
runs="${2:-3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }

for run in $(seq 1 "$runs"); do
    output="$work/output-$run"
    started="$(now)"
    "$program" --any-ports >"$output" 2>&1 &
    pid=$!
    until grep -q "Press Ctrl-C to stop." "$output"; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "sandbox: the program ended before it was ready:" >&2
            cat "$output" >&2
            exit 1
        fi
        sleep 0.02
    done
    ready="$(now)"
    chat_process="$(sed -n 's/.*process \([0-9]*\)).*/\1/p' "$output")"
    chat_address="$(sed -n 's/.*chat server *\([0-9.]*\):5222.*/\1/p' "$output")"
    kill -TERM "$pid"
    wait "$pid" || true
    stopped="$(now)"
    if kill -0 "$chat_process" 2>/dev/null; then
        echo "sandbox: the chat server (process $chat_process) outlived the sandbox" >&2
        exit 1
    fi
    if ss -ltn | grep -q "$chat_address:5222 "; then
        echo "sandbox: port 5222 of $chat_address is still taken" >&2
        exit 1
    fi
    printf '  sandbox run %d: start to ready %.2f s, stop %.2f s\n' "$run" \
        "$(echo "$ready - $started" | bc)" "$(echo "$stopped - $ready" | bc)"
done
