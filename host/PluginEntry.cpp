// Placeholder until the host interface lands.
