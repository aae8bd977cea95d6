#!/usr/bin/env bash
# Installs what is missing, builds, then starts the simulated reader (with a few blank cards in its
# wallet) and Zentap. In Zentap: type 127.0.0.1 as the TCP address and press "Abrir TCP".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
bin=${BUILD_DIR:-$root/build}/bin

# The reader listens on TCP port 1001, which a normal user may bind only where the system allows it.
if [ "$(id -u)" -ne 0 ]; then
    start=$(cat /proc/sys/net/ipv4/ip_unprivileged_port_start 2>/dev/null || echo 1024)
    if [ "$start" -gt 1001 ]; then
        echo "Port 1001 needs: sudo sysctl -w net.ipv4.ip_unprivileged_port_start=1001"
        sudo sysctl -w net.ipv4.ip_unprivileged_port_start=1001 >/dev/null || true
    fi
fi

"$bin/zentap-reader-sim" --cards 3 &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
sleep 0.5
"$bin/zentap"
