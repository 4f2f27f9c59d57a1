#!/bin/sh
# swaks_baseline.sh STATE ROUNDS: times swaks sending one mail with STARTTLS
# and AUTH LOGIN to the STARTTLS test server, and swaks's own start-up (a
# refused connect), in nanoseconds per line, and "failed" for a mail swaks
# could not send; then writes STATE/swaks.done.
set -u
state="$1"; rounds="$2"
out="$state/swaks-times.txt"
rm -f "$out" "$state/swaks.done"
mail() {
  swaks --server 127.0.0.1 --port "$1" --tls --auth LOGIN --auth-user swaks@example.test \
    --auth-password s3cret-pass --from scheduler@example.test --to "swaks$2@example.test" \
    --header "Subject: benchmark" --body "benchmark body" >/dev/null 2>&1
}
i=0
while [ $i -lt "$rounds" ]; do
  start=$(date +%s%N); sent=0; mail 844 $i || sent=$?; end=$(date +%s%N)
  if [ "$sent" -eq 0 ]; then echo "full $((end - start))" >> "$out"; else echo "failed $sent" >> "$out"; fi
  start=$(date +%s%N); mail 859 $i; end=$(date +%s%N)
  echo "startup $((end - start))" >> "$out"
  i=$((i + 1))
done
touch "$state/swaks.done"
