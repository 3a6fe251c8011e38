// setuply: the installer. Reads Install.log beside itself and installs what it lists.

int main() { return 0; }
