// A program that only carries version information: Japanese strings, keys
// in another order than the reader lists them, an unknown key and a value
// with a NUL inside.
int main() { return 0; }
