// Placeholder until the start-up sequence is written.
int main() { return 0; }
