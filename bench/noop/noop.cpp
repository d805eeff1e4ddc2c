// The floor of a program start: a static program that does nothing, started
// the way the job starts the extractor.
int main() { return 0; }
