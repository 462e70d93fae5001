#include "view/item_name_cache.h"

#include <cstring>
#include <cwchar>

#include "view/item_name.h"

namespace vantorel {
namespace {

// Past this many bytes of entries the cache is emptied as past kMaxEntries: identifier lists
// are not bounded by the entry count alone.
constexpr size_t kMaxStoreBytes = 32u << 20;
constexpr size_t kFirstSlots = 1024;

uint32_t Hash(const BYTE* key, uint32_t size) noexcept {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (uint32_t i = 0; i < size; ++i) {
    hash ^= key[i];
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

bool CItemNameCache::Name(PCIDLIST_ABSOLUTE folder, LPARAM itemIdList, wchar_t (&name)[MAX_PATH]) noexcept {
  name[0] = L'\0';
  // Without an identifier list there is nothing to name, and nothing to key on.
  if (itemIdList == 0) return false;
  if (!UseFolder(folder)) return ItemName(folder, itemIdList, name);
  const BYTE* key = reinterpret_cast<const BYTE*>(itemIdList);
  const uint32_t keySize = ILGetSize(reinterpret_cast<PCUIDLIST_RELATIVE>(itemIdList));
  const uint32_t hash = Hash(key, keySize);
  if (!slots_.empty()) {
    const Slot& slot = slots_[Find(key, keySize, hash)];
    if (slot.offset != 0) {
      const BYTE* entry = store_.data() + slot.offset - 1;
      uint16_t length = 0;
      std::memcpy(&length, entry + sizeof(uint32_t), sizeof length);
      if (length == kNoName) return false;
      std::memcpy(name, entry + kHeader + keySize, length * sizeof(wchar_t));
      name[length] = L'\0';
      return true;
    }
  }
  const bool named = ItemName(folder, itemIdList, name);
  Remember(key, keySize, hash, named ? name : nullptr);
  return named;
}

void CItemNameCache::Clear() noexcept {
  DropEntries();
  std::vector<BYTE>().swap(folder_);
  hasFolder_ = false;
}

void CItemNameCache::DropEntries() noexcept {
  std::vector<BYTE>().swap(store_);
  std::vector<Slot>().swap(slots_);
  entries_ = 0;
}

size_t CItemNameCache::Bytes() const noexcept {
  return sizeof(*this) + folder_.capacity() + store_.capacity() + slots_.capacity() * sizeof(Slot);
}

bool CItemNameCache::UseFolder(PCIDLIST_ABSOLUTE folder) noexcept {
  // A null folder (the run could not get it) is a folder of its own: no bytes at all, where the
  // shortest list (the desktop's) has its terminator.
  const BYTE* bytes = reinterpret_cast<const BYTE*>(folder);
  const size_t size = folder ? ILGetSize(folder) : 0;
  if (hasFolder_ && size == folder_.size() && (size == 0 || std::memcmp(folder_.data(), bytes, size) == 0)) {
    return true;
  }
  Clear();
  try {
    folder_.assign(bytes, bytes + size);
  } catch (...) {  // no memory: names are resolved without the cache
    return false;
  }
  hasFolder_ = true;
  return true;
}

size_t CItemNameCache::Find(const BYTE* key, uint32_t keySize, uint32_t hash) const noexcept {
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.offset == 0) return i;
    if (slot.hash != hash) continue;
    const BYTE* entry = store_.data() + slot.offset - 1;
    uint32_t size = 0;
    std::memcpy(&size, entry, sizeof size);
    if (size == keySize && std::memcmp(entry + kHeader, key, keySize) == 0) return i;
  }
}

bool CItemNameCache::Remember(const BYTE* key, uint32_t keySize, uint32_t hash, const wchar_t* name) noexcept {
  const size_t length = name ? std::wcslen(name) : 0;
  const size_t need = kHeader + keySize + length * sizeof(wchar_t);
  if (entries_ >= kMaxEntries || store_.size() + need > kMaxStoreBytes) DropEntries();
  if (need > kMaxStoreBytes) return false;
  try {
    if ((entries_ + 1) * 2 > slots_.size()) Grow();
    const size_t offset = store_.size();
    store_.resize(offset + need);
    BYTE* entry = store_.data() + offset;
    const uint16_t stored = name ? static_cast<uint16_t>(length) : kNoName;
    std::memcpy(entry, &keySize, sizeof keySize);
    std::memcpy(entry + sizeof keySize, &stored, sizeof stored);
    std::memcpy(entry + kHeader, key, keySize);
    if (length) std::memcpy(entry + kHeader + keySize, name, length * sizeof(wchar_t));
    slots_[Find(key, keySize, hash)] = Slot{hash, static_cast<uint32_t>(offset + 1)};
    ++entries_;
    return true;
  } catch (...) {  // no memory: start again empty
    Clear();
    return false;
  }
}

void CItemNameCache::Grow() {
  std::vector<Slot> old(slots_.empty() ? kFirstSlots : slots_.size() * 2, Slot{0, 0});
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.offset == 0) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].offset != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace vantorel
