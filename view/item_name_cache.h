#pragma once
// The file names of the folder view's items, resolved through the shell once per folder.
//
// A run names every item of the view, and a filter refill every inserted item; between two
// keystrokes the names do not change. The cache maps the bytes of an item's relative identifier
// list (the list view item's lParam) to its raw file name, or to the fact that it has none. Keys
// are compared by content, never by address: Explorer frees and reuses those blocks, while the
// same bytes always name the same item of the same folder (a renamed file gets new bytes).
//
// The entries belong to one folder identifier list: a lookup through another folder empties the
// cache first, and so does Clear (a completed navigation). Past kMaxEntries it is emptied and
// filled again. Entries live in one block of bytes with an open-addressing table of offsets.
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <vector>

namespace vantorel {

class CItemNameCache {
 public:
  static constexpr size_t kMaxEntries = 65536;

  // The item's raw file name as ItemName gives it, from the cache when the item was named
  // before through the same folder. False for an item without a name (remembered as such).
  bool Name(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) noexcept;
  // Forgets every entry and the folder, and gives the memory back.
  void Clear() noexcept;

  size_t Entries() const noexcept { return entries_; }
  // Memory the cache holds for its entries, table and folder, in bytes.
  size_t Bytes() const noexcept;

 private:
  struct Slot {
    uint32_t hash;
    uint32_t offset;  // of the entry in store_, plus one; 0 marks an empty slot
  };
  // Entry layout in store_: key size (uint32), name length (uint16, kNoName for none), the key
  // bytes, the name's UTF-16 units without terminator. Read and written with memcpy.
  static constexpr uint16_t kNoName = 0xFFFF;
  static constexpr size_t kHeader = sizeof(uint32_t) + sizeof(uint16_t);

  // Keeps the entries when they were made through the same folder list; else empties the cache
  // and takes the folder's bytes. False when the folder could not be kept (no memory).
  bool UseFolder(PCIDLIST_ABSOLUTE folder) noexcept;
  // Forgets the entries and gives their memory back; the folder stays.
  void DropEntries() noexcept;
  // The slot that holds the key, or the empty slot where it would go.
  size_t Find(const BYTE* key, uint32_t keySize, uint32_t hash) const noexcept;
  bool Remember(const BYTE* key, uint32_t keySize, uint32_t hash, const wchar_t* name) noexcept;
  void Grow();

  std::vector<BYTE> folder_;
  bool hasFolder_ = false;
  std::vector<BYTE> store_;
  std::vector<Slot> slots_;  // size a power of two, at most half used
  size_t entries_ = 0;
};

}  // namespace vantorel
