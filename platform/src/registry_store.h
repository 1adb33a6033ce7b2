// The registry's insides, shared by the registry_*.cpp files: the key tree, its text form
// and the file that holds it.
#pragma once

#include <platform/wintypes.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plat::reg {

inline constexpr size_t kMaxKeyNameLength = 255;     // UTF-16 units in one key name
inline constexpr size_t kMaxValueNameLength = 16383; // UTF-16 units in a value name
inline constexpr size_t kMaxDepth = 512;             // keys between a root and a leaf
inline constexpr size_t kMaxValueSize = 1u << 20;    // bytes of one value

// Names compare by their upper-case form.
std::u16string Fold(std::u16string_view name);
bool SameName(std::u16string_view a, std::u16string_view b);
// A key name: 1 to 255 units, no backslash, no control character, no lone surrogate.
bool ValidKeyName(std::u16string_view name);
// A value name: up to 16383 units and no NUL (empty is the key's default value).
bool ValidValueName(std::u16string_view name);

struct Value {
    std::u16string name;
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Value&) const = default;
};

class Key {
public:
    explicit Key(std::u16string name, Key* parent) : m_name(std::move(name)), m_parent(parent) {}
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    const std::u16string& Name() const { return m_name; }
    Key* Parent() const { return m_parent; }
    // A deleted key stays alive while handles refer to it, but nothing can be done with it.
    bool Deleted() const { return m_deleted; }
    size_t Depth() const;

    // Subkeys in the order of their folded names.
    const std::map<std::u16string, std::shared_ptr<Key>>& Subkeys() const { return m_subkeys; }
    std::shared_ptr<Key> Subkey(std::u16string_view name) const;
    // The existing subkey of that name, or a new one; *created tells which.
    std::shared_ptr<Key> AddSubkey(std::u16string_view name, bool* created);
    // Removes the subkey with every key below it; false when there is none.
    bool DeleteSubkey(std::u16string_view name);

    // Values in the order they were first set.
    const std::vector<Value>& Values() const { return m_values; }
    const Value* FindValue(std::u16string_view name) const;
    void SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data);
    bool DeleteValue(std::u16string_view name);

private:
    void MarkDeleted();

    std::u16string m_name;
    Key* m_parent; // null for a root and once deleted
    bool m_deleted = false;
    std::map<std::u16string, std::shared_ptr<Key>> m_subkeys;
    std::vector<Value> m_values;
};

// Same names (as written), values and subkeys throughout.
bool SameTree(const Key& a, const Key& b);

enum RootIndex { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kRootCount };
const char* RootName(int index); // "HKEY_LOCAL_MACHINE", ...

struct Tree {
    Tree();
    std::array<std::shared_ptr<Key>, kRootCount> roots;
};
bool SameTree(const Tree& a, const Tree& b);

// The text form. ParseText fills an empty tree and fails, with the line and the reason, on
// anything it does not understand completely.
std::string WriteText(const Tree& tree);
struct ParseFailure {
    size_t line = 0;
    std::string reason;
};
bool ParseText(std::string_view text, Tree* tree, ParseFailure* failure);

// The file. A missing file gives an empty tree. A file that cannot be read or parsed is
// renamed aside and reported on stderr, and the tree starts empty; *canWrite turns false when
// the file could not even be moved, so that it is never overwritten.
void LoadFile(const std::string& path, Tree* tree, bool* canWrite);
// Replaces the file atomically: temporary file, fsync, rename, fsync of the directory.
bool SaveFile(const std::string& path, const std::string& text);

} // namespace plat::reg
