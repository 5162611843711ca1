#include "survey/shared_memory.h"

namespace velk {

uint8_t* CSharedMemory::Create(const std::string& name, size_t size, std::string* error)
{
    return block_.Open(name, size, error) ? block_.Data() : nullptr;
}

void CSharedMemory::Close() { block_.Close(); }

}  // namespace velk
