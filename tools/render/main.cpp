// Placeholder until the command-line host lands.
int main() { return 0; }
