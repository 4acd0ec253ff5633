// Keeps a library target valid while its sources are still being written.
