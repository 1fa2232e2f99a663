#include "crashreporter/PMCrashImageList.h"

#include <cstring>
#include <set>
#include <vector>

pmcrash_image_list_t::~pmcrash_image_list_t()
{
    std::vector<pmcrash_image_t*> records;
    for (auto* node = list.next(nullptr); node; node = list.next(node))
        records.push_back(node->value);
    list.freeAll();
    for (auto* record : records)
        delete record;
}

bool pmcrash_image_list_append(pmcrash_image_list_t* list, uintptr_t headerAddress, const char* path)
{
    auto* record = new pmcrash_image_t;
    if (vxos::elfImageInit(&record->elf, headerAddress) != vxos::kElfOk) {
        delete record;
        return false;
    }
    record->symbolIndex = vxos::elfSymbolIndex(record->elf);
    record->elf.symbolIndex = record->symbolIndex.data();
    record->elf.symbolIndexCount = static_cast<uint32_t>(record->symbolIndex.size());
    std::strncpy(record->path, path ? path : "", sizeof(record->path) - 1);
    record->path[sizeof(record->path) - 1] = '\0';
    if (!list->list.append(record)) {
        delete record;
        return false;
    }
    return true;
}

void pmcrash_image_list_remove(pmcrash_image_list_t* list, uintptr_t headerAddress)
{
    list->list.setReading(true);
    pmcrash_image_list_t::List::node* found = nullptr;
    for (auto* node = list->list.next(nullptr); node; node = list->list.next(node)) {
        if (node->value->elf.headerAddress == headerAddress) {
            found = node;
            break;
        }
    }
    list->list.setReading(false);
    if (found)
        list->list.remove(found);
}

void pmcrash_image_list_sync(pmcrash_image_list_t* list)
{
    std::set<uintptr_t> present;
    std::vector<std::pair<uintptr_t, std::string>> loaded;
    vxos::forEachLoadedImage([&](uintptr_t header, const char* path) { loaded.push_back({ header, path }); });
    list->list.setReading(true);
    for (auto* node = list->list.next(nullptr); node; node = list->list.next(node))
        present.insert(node->value->elf.headerAddress);
    list->list.setReading(false);
    std::set<uintptr_t> current;
    for (const auto& [header, path] : loaded) {
        current.insert(header);
        if (!present.count(header))
            pmcrash_image_list_append(list, header, path.c_str());
    }
    for (uintptr_t header : present) {
        if (!current.count(header))
            pmcrash_image_list_remove(list, header);
    }
}

void pmcrash_image_list_set_reading(pmcrash_image_list_t* list, bool reading)
{
    list->list.setReading(reading);
}

pmcrash_image_t* pmcrash_image_list_next(pmcrash_image_list_t* list, pmcrash_image_t* current)
{
    using Node = pmcrash_image_list_t::List::node;
    Node* candidate;
    if (!current || !current->node.load(std::memory_order_acquire))
        candidate = list->list.next(nullptr);
    else
        candidate = list->list.next(static_cast<Node*>(current->node.load(std::memory_order_acquire)));
    if (!candidate)
        return nullptr;
    void* expected = nullptr;
    candidate->value->node.compare_exchange_strong(expected, candidate, std::memory_order_seq_cst);
    return candidate->value;
}

pmcrash_image_t* pmcrash_image_list_image_for_address(pmcrash_image_list_t* list, uint64_t address)
{
    for (auto* image = pmcrash_image_list_next(list, nullptr); image; image = pmcrash_image_list_next(list, image)) {
        uint64_t start = image->elf.headerAddress;
        if (address >= start && address - start < image->elf.textSize)
            return image;
    }
    return nullptr;
}
