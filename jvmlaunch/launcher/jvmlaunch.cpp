// The entry point of jvmlaunch. The main flow (hand-off to a running client,
// runtime discovery, starting the client) is not built yet: for now the
// program only carries the log facility, which it exports to host processes.
int main() { return 0; }
