// Windows into the echo probe's once-per-process set-up, for tests only. Safe from any thread.
#pragma once

namespace tarvelin {

// How many times the set-up has run in this process (a failed set-up runs again on the next call).
int EchoSetUpCount();

// Which kind of socket the probe uses once set up: none yet, the unprivileged datagram socket, or raw.
enum class EchoSocketKind { None, Datagram, Raw };
EchoSocketKind ActiveEchoSocketKind();

}  // namespace tarvelin
