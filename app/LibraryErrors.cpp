// What the C++ library throws when it is misused (a string position past its
// end, a length beyond its maximum) or out of memory, in this program: the
// standard exceptions that need no text of their own, and for the rest one
// exception that carries the library's message. Handlers catch them as
// std::exception, as before. The library's own versions build exceptions that
// hold copies of their messages in its old reference-counted strings, and
// would bring that whole string class (a tenth of the program's size) along.
#include <exception>
#include <new>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* what) : m_what(what) {}
    const char* what() const noexcept override { return m_what; }

private:
    const char* m_what; // the library's messages are literals
};

} // namespace

namespace std {

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_length_error(const char* what) {
    throw LibraryError(what);
}

void __throw_logic_error(const char* what) {
    throw LibraryError(what);
}

void __throw_out_of_range_fmt(const char* format, ...) {
    throw LibraryError(format);
}

void __throw_system_error(int) {
    throw LibraryError("system error");
}

} // namespace std
