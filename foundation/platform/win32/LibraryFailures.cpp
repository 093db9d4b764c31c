// The C++ library raises its own failures (a string grown past its largest
// size, an index out of range) through these functions. Its versions build
// exceptions that carry a copy-on-write string, and with them bring a second
// whole string implementation into the static Windows program: a third of
// what the program's own code takes. These raise the same kinds without a
// text: a size no allocation can meet as the memory failure it is, the rest
// as a library failure that the job reports as an unexpected error, where
// the library's own failures ended up before.
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class ELibraryFailure : public std::exception {
public:
    const char* what() const noexcept override { return "C++ library failure"; }
};

[[noreturn]] void RaiseLibraryFailure() {
    throw ELibraryFailure();
}

}  // namespace

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_length_error(const char*) {
    throw bad_alloc();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_logic_error(const char*) {
    RaiseLibraryFailure();
}
void __throw_domain_error(const char*) {
    RaiseLibraryFailure();
}
void __throw_invalid_argument(const char*) {
    RaiseLibraryFailure();
}
void __throw_out_of_range(const char*) {
    RaiseLibraryFailure();
}
void __throw_out_of_range_fmt(const char*, ...) {
    RaiseLibraryFailure();
}
void __throw_runtime_error(const char*) {
    RaiseLibraryFailure();
}
void __throw_range_error(const char*) {
    RaiseLibraryFailure();
}
void __throw_overflow_error(const char*) {
    RaiseLibraryFailure();
}
void __throw_underflow_error(const char*) {
    RaiseLibraryFailure();
}

}  // namespace std
