#pragma once
// A module of the program as the toolkit sees it: the file it was loaded from and the read-only resources
// linked into it, found by type and name. The installer's executable is one; it carries the skin archive
// as type "ZIPRES", id 129.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>

namespace SkinUI {

// The name under which a resource with an integer id is found ("#129").
std::wstring ResourceIdName(unsigned id);

class CResourceModule {
public:
    explicit CResourceModule(std::wstring fileName) : fileName_(std::move(fileName)) {}

    // Full path of the module's file.
    const std::wstring& GetFileName() const { return fileName_; }

    // The bytes must outlive the module (linked-in data does). A second resource of the same type and
    // name replaces the first.
    void AddResource(const std::wstring& type, const std::wstring& name, std::span<const uint8_t> bytes);
    // Empty when the module has no such resource.
    std::span<const uint8_t> FindResource(const std::wstring& type, const std::wstring& name) const;

private:
    std::wstring fileName_;
    std::map<std::pair<std::wstring, std::wstring>, std::span<const uint8_t>> resources_;
};

}  // namespace SkinUI
