// A program whose only version strings are its description and version.
int main() { return 0; }
