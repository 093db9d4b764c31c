// The program of a layer check: it uses nothing, so that the link pulls in
// every object of the layer under test and must find all they need below.
int main() {
    return 0;
}
