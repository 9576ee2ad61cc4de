// The body of the shared libraries that link one system folder on its own.
