#include "tests/fakes/FakeFileSystem.h"

#include <algorithm>

#include "platform/Platform.h"
#include "tests/fakes/FakeLibraries.h"
#include "tests/fakes/FakeSystem.h"

namespace {

constexpr int kMaxLinkHops = 32;
// The ANSI file functions take paths of at most 259 characters.
constexpr size_t kMaxPath = 259;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAbsolute(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

// "*" and "?" wildcards, case-insensitive; "*.*" matches every name, as on the platform.
bool Matches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (const char* rest = name;; ++rest) {
      if (Matches(pattern + 1, rest)) return true;
      if (*rest == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  if (*pattern != '?' && Lower(*pattern) != Lower(*name)) return false;
  return Matches(pattern + 1, name + 1);
}

}  // namespace

FakeFileSystem::FakeFileSystem() : m_root(std::make_unique<Node>()) {
  m_root->name = "C:";
  m_root->isDirectory = true;
  AddDirectory(m_currentDirectory);
}

FakeFileSystem::~FakeFileSystem() = default;

std::vector<std::string> FakeFileSystem::Split(const std::string& path) const {
  std::string full = IsAbsolute(path) ? path : m_currentDirectory + "\\" + path;
  std::vector<std::string> parts;
  std::string part;
  for (char c : full) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

FakeFileSystem::Node* FakeFileSystem::Child(const Node& node, const std::string& name) {
  for (const auto& child : node.children) {
    if (FakeNamesEqual(child->name, name)) return child.get();
  }
  return nullptr;
}

FakeFileSystem::Node* FakeFileSystem::Resolve(const std::string& path, bool followFinalLink) const {
  std::vector<std::string> parts = Split(path);
  if (parts.empty() || !FakeNamesEqual(parts[0], "C:")) return nullptr;
  Node* node = m_root.get();
  int hops = 0;
  for (size_t i = 1; i < parts.size(); ++i) {
    if (!node->isDirectory) return nullptr;
    if (parts[i] == ".") continue;
    node = Child(*node, parts[i]);
    if (node == nullptr) return nullptr;
    const bool last = i + 1 == parts.size();
    while (node->isLink && (!last || followFinalLink)) {
      if (++hops > kMaxLinkHops) return nullptr;
      node = Resolve(node->linkTarget, false);
      if (node == nullptr) return nullptr;
    }
  }
  return node;
}

FakeFileSystem::Node* FakeFileSystem::MakeDirectories(const std::vector<std::string>& parts,
                                                      size_t count) {
  Node* node = m_root.get();
  for (size_t i = 1; i < count; ++i) {
    Node* child = Child(*node, parts[i]);
    if (child == nullptr) {
      auto created = std::make_unique<Node>();
      created->name = parts[i];
      created->isDirectory = true;
      child = created.get();
      node->children.push_back(std::move(created));
    }
    while (child->isLink) {
      child = Resolve(child->linkTarget, false);
      if (child == nullptr) return nullptr;
    }
    node = child;
  }
  return node;
}

void FakeFileSystem::AddDirectory(const std::string& path) {
  std::vector<std::string> parts = Split(path);
  MakeDirectories(parts, parts.size());
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& bytes) {
  std::vector<std::string> parts = Split(path);
  if (parts.size() < 2) return;
  Node* directory = MakeDirectories(parts, parts.size() - 1);
  if (directory == nullptr) return;
  Node* file = Child(*directory, parts.back());
  if (file == nullptr) {
    auto created = std::make_unique<Node>();
    created->name = parts.back();
    file = created.get();
    directory->children.push_back(std::move(created));
  }
  file->bytes = bytes;
}

void FakeFileSystem::AddLink(const std::string& path, const std::string& target) {
  std::vector<std::string> parts = Split(path);
  if (parts.size() < 2) return;
  Node* directory = MakeDirectories(parts, parts.size() - 1);
  if (directory == nullptr) return;
  auto link = std::make_unique<Node>();
  link->name = parts.back();
  link->isDirectory = true;
  link->isLink = true;
  link->linkTarget = target;
  directory->children.push_back(std::move(link));
}

void FakeFileSystem::SetUnreadable(const std::string& path, bool unreadable) {
  if (Node* node = Resolve(path)) node->unreadable = unreadable;
}

void FakeFileSystem::SetReadOnly(const std::string& directory, bool readOnly) {
  if (Node* node = Resolve(directory)) node->readOnly = readOnly;
}

bool FakeFileSystem::Exists(const std::string& path) const { return Resolve(path) != nullptr; }

std::optional<std::string> FakeFileSystem::FileBytes(const std::string& path) const {
  Node* node = Resolve(path);
  if (node == nullptr || node->isDirectory) return std::nullopt;
  return node->bytes;
}

std::string FakeFileSystem::AsRead(const std::string& path) {
  const auto* system = dynamic_cast<const FakeSystem*>(GetPlatform().system);
  return system != nullptr ? system->Redirected(path) : path;
}

FileHandle FakeFileSystem::OpenForRead(const char* path) {
  if (path == nullptr) return nullptr;
  Node* node = Resolve(AsRead(path));
  if (node == nullptr || node->isDirectory || node->unreadable) return nullptr;
  auto handle = std::make_unique<Handle>();
  handle->node = node;
  m_handles.push_back(std::move(handle));
  return m_handles.back().get();
}

FileHandle FakeFileSystem::CreateForWrite(const char* path) {
  if (path == nullptr) return nullptr;
  std::vector<std::string> parts = Split(path);
  if (parts.size() < 2) return nullptr;
  std::string parentPath;
  for (size_t i = 0; i + 1 < parts.size(); ++i) parentPath += (i ? "\\" : "") + parts[i];
  Node* directory = Resolve(parentPath);
  if (directory == nullptr || !directory->isDirectory || directory->readOnly) return nullptr;
  Node* file = Child(*directory, parts.back());
  if (file != nullptr && (file->isDirectory || file->unreadable)) return nullptr;
  if (file == nullptr) {
    auto created = std::make_unique<Node>();
    created->name = parts.back();
    file = created.get();
    directory->children.push_back(std::move(created));
  }
  file->bytes.clear();
  auto handle = std::make_unique<Handle>();
  handle->node = file;
  handle->forWrite = true;
  m_handles.push_back(std::move(handle));
  return m_handles.back().get();
}

bool FakeFileSystem::Write(FileHandle file, const char* data, size_t size) {
  for (const auto& handle : m_handles) {
    if (handle.get() != file) continue;
    if (!handle->forWrite) return false;
    handle->node->bytes.append(data, m_diskFull ? size / 2 : size);
    return !m_diskFull;
  }
  return false;
}

bool FakeFileSystem::Read(FileHandle file, char* data, size_t size, size_t& read) {
  read = 0;
  for (const auto& handle : m_handles) {
    if (handle.get() != file) continue;
    if (handle->forWrite) return false;
    const std::string& bytes = handle->node->bytes;
    read = std::min(size, bytes.size() - std::min(handle->readAt, bytes.size()));
    bytes.copy(data, read, std::min(handle->readAt, bytes.size()));
    handle->readAt += read;
    return true;
  }
  return false;
}

bool FakeFileSystem::Close(FileHandle file) {
  auto found = std::find_if(m_handles.begin(), m_handles.end(),
                            [file](const std::unique_ptr<Handle>& h) { return h.get() == file; });
  if (found == m_handles.end()) return false;
  m_handles.erase(found);
  return true;
}

bool FakeFileSystem::FindFiles(const char* pattern, std::vector<FindEntry>& entries) {
  entries.clear();
  if (pattern == nullptr) return false;
  m_findPatterns.emplace_back(pattern);
  std::string text = AsRead(pattern);
  if (text.size() > kMaxPath) return false;
  size_t slash = text.find_last_of("\\/");
  if (slash == std::string::npos) return false;
  const std::string namePattern = text.substr(slash + 1);
  Node* directory = Resolve(text.substr(0, slash));
  if (directory == nullptr || !directory->isDirectory) return false;

  const bool all = namePattern == "*.*" || namePattern == "*";
  if (directory != m_root.get()) {
    for (const char* dots : {".", ".."}) {
      if (all || Matches(namePattern.c_str(), dots)) {
        FindEntry entry;
        entry.name = dots;
        entry.isDirectory = true;
        entries.push_back(entry);
      }
    }
  }
  for (const auto& child : directory->children) {
    if (!all && !Matches(namePattern.c_str(), child->name.c_str())) continue;
    FindEntry entry;
    entry.name = child->name;
    entry.isDirectory = child->isDirectory;
    entry.isLink = child->isLink;
    entries.push_back(entry);
  }
  return !entries.empty();
}

int FakeFileSystem::ListingsOf(const std::string& directory) const {
  int count = 0;
  for (const std::string& pattern : m_findPatterns) {
    const size_t slash = pattern.find_last_of("\\/");
    if (slash != std::string::npos && FakeNamesEqual(pattern.substr(0, slash), directory)) ++count;
  }
  return count;
}

bool FakeFileSystem::DeleteFile(const char* path) {
  if (path == nullptr) return false;
  std::vector<std::string> parts = Split(path);
  if (parts.size() < 2) return false;
  std::string parentPath;
  for (size_t i = 0; i + 1 < parts.size(); ++i) parentPath += (i ? "\\" : "") + parts[i];
  Node* directory = Resolve(parentPath);
  if (directory == nullptr || !directory->isDirectory || directory->readOnly) return false;
  for (auto it = directory->children.begin(); it != directory->children.end(); ++it) {
    if (!FakeNamesEqual((*it)->name, parts.back())) continue;
    if ((*it)->isDirectory) return false;
    for (const auto& handle : m_handles) {
      if (handle->node == it->get()) return false;
    }
    directory->children.erase(it);
    return true;
  }
  return false;
}

bool FakeFileSystem::MoveFileReplacing(const char* from, const char* to) {
  const std::optional<std::string> bytes = from != nullptr ? FileBytes(from) : std::nullopt;
  if (!bytes.has_value() || to == nullptr || FakeNamesEqual(from, to)) return false;
  FileHandle target = CreateForWrite(to);
  if (target == nullptr) return false;
  Resolve(to)->bytes = *bytes;
  Close(target);
  return DeleteFile(from);
}
