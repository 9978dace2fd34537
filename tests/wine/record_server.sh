# Sourced by the Wine checks: start_record_server RECORD_FILE starts the Linux
# reference server on a free-looking loopback port with the tests' credentials
# (4711, geheim), recording every request into RECORD_FILE, and waits until it
# accepts connections. Sets port and server_pid; needs lin (the Linux programs).
start_record_server() {
  port=$(( 20000 + RANDOM % 20000 ))
  "$lin/orvanta-server" --listen "127.0.0.1:$port" --user 4711 --password geheim --record "$1" \
    >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
}
