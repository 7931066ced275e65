// A program whose description is the same text as its version.
int main() { return 0; }
