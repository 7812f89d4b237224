#include <cstring>
#include <string>

// The C++ library builds every member of std::string once, in one object, and programs call that
// copy. Taking that object brings all of its members (some 30 KB of the Runner), since the linker
// cannot drop those that nothing calls from a Windows program: each function's unwind entry keeps
// it. The members that the Runner calls are built here instead, from the same templates, so the
// linker never takes the library's object. A member used anew and missing here brings that object
// back; scripts/check-products then fails, naming the member from the Runner's link map, and the
// member joins this list.
using StringSize = std::string::size_type;

namespace std {

template StringSize string::find(const char*, StringSize) const noexcept;
template StringSize string::find(const char*, StringSize, StringSize) const noexcept;
template StringSize string::find(char, StringSize) const noexcept;
template StringSize string::rfind(char, StringSize) const noexcept;
template StringSize string::find_first_of(const char*, StringSize) const noexcept;
template StringSize string::find_first_of(const char*, StringSize, StringSize) const noexcept;
template StringSize string::find_last_of(const char*, StringSize) const noexcept;
template StringSize string::find_last_of(const char*, StringSize, StringSize) const noexcept;
template StringSize string::find_first_not_of(const char*, StringSize) const noexcept;
template StringSize string::find_first_not_of(const char*, StringSize, StringSize) const noexcept;
template StringSize string::find_first_not_of(char, StringSize) const noexcept;
template StringSize string::find_last_not_of(const char*, StringSize) const noexcept;
template StringSize string::find_last_not_of(const char*, StringSize, StringSize) const noexcept;
template StringSize string::find_last_not_of(char, StringSize) const noexcept;
template string string::substr(StringSize, StringSize) const;
template int string::compare(const char*) const;
template int string::compare(StringSize, StringSize, const char*) const;
template int string::compare(StringSize, StringSize, const string&) const;

template string::basic_string(const string&);
template string::basic_string(const string&, StringSize, StringSize);
template string::basic_string(const char*, StringSize, const allocator<char>&);
template string::basic_string(string&&) noexcept;
template string& string::operator=(string&&);
template string& string::operator=(const char*);
template string& string::operator+=(const string&);
template string& string::assign(const char*);
template string& string::append(const char*);
template string& string::append(const char*, StringSize);
template string& string::append(const string&);
template string& string::append(const string&, StringSize, StringSize);
template string& string::append(StringSize, char);
template string& string::insert(StringSize, const char*);
template string& string::insert(StringSize, const string&);
template string& string::replace(StringSize, StringSize, const char*);
template string& string::replace(StringSize, StringSize, const char*, StringSize);
template string& string::erase(StringSize, StringSize);
template void string::resize(StringSize);
template void string::resize(StringSize, char);
template void string::reserve(StringSize);
template void string::push_back(char);
template void string::pop_back() noexcept;

template void string::_M_dispose();
template void string::_M_destroy(StringSize) noexcept;
template StringSize string::_M_check(StringSize, const char*) const;
template void string::_M_check_length(StringSize, StringSize, const char*) const;
template bool string::_M_disjunct(const char*) const noexcept;
template void string::_M_erase(StringSize, StringSize);
template void string::_M_mutate(StringSize, StringSize, const char*, StringSize);
template void string::_M_construct(StringSize, char);
template char* string::_M_create(StringSize&, StringSize);
template void string::_M_assign(const string&);
template string& string::_M_append(const char*, StringSize);
template string& string::_M_replace(StringSize, StringSize, const char*, const StringSize);
template string& string::_M_replace_aux(StringSize, StringSize, StringSize, char);
template void string::_S_copy(char*, const char*, StringSize);
template void string::_S_move(char*, const char*, StringSize);
template void string::_S_assign(char*, StringSize, char);

}  // namespace std

// The pointer overloads of _S_copy_chars share their name with a member template, so no explicit
// instantiation can name them; they are defined under their own symbols instead, doing what the
// library's do.
#define VM_TEXT(x) #x
#define VM_SYMBOL_TEXT(prefix, name) VM_TEXT(prefix) name
extern "C" void VmCopyStringChars(char* to, const char* first, const char* last) noexcept __asm__(
    VM_SYMBOL_TEXT(__USER_LABEL_PREFIX__, "_ZNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE13_S_copy_charsEPcPKcS7_"));

extern "C" void VmCopyStringChars(char* to, const char* first, const char* last) noexcept {
  if (last != first) std::memcpy(to, first, static_cast<size_t>(last - first));
}

extern "C" void VmCopyMutableStringChars(char* to, char* first, char* last) noexcept __asm__(
    VM_SYMBOL_TEXT(__USER_LABEL_PREFIX__, "_ZNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE13_S_copy_charsEPcS5_S5_"));

extern "C" void VmCopyMutableStringChars(char* to, char* first, char* last) noexcept {
  VmCopyStringChars(to, first, last);
}
