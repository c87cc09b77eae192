#pragma once
// Redirects one function that this program imports from a DLL to a replacement, for the
// life of the object: the program's import address table entry is rewritten and put back.
// Every call the program's own code makes goes through that entry, calls inside the DLLs do
// not, so a test sees exactly what the program asks of the system.

#include <windows.h>

#include <cstring>

class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement) {
        m_slot = FindSlot(dll, function);
        if (m_slot == nullptr) return;
        m_original = reinterpret_cast<void*>(m_slot->u1.Function);
        Write(replacement);
    }
    ~ImportHook() {
        if (m_slot != nullptr) Write(m_original);
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return m_slot != nullptr; }
    // The real function, to forward to.
    void* Original() const { return m_original; }

private:
    static IMAGE_THUNK_DATA* FindSlot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (dir.VirtualAddress == 0) return nullptr;
        for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
             desc->Name != 0; ++desc) {
            if (::lstrcmpiA(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
            // The name table stays as linked; the address table holds the bound addresses.
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
                base + (desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return slots;
            }
        }
        return nullptr;
    }

    void Write(void* address) {
        DWORD old = 0;
        ::VirtualProtect(m_slot, sizeof(*m_slot), PAGE_READWRITE, &old);
        m_slot->u1.Function = reinterpret_cast<ULONG_PTR>(address);
        ::VirtualProtect(m_slot, sizeof(*m_slot), old, &old);
    }

    IMAGE_THUNK_DATA* m_slot = nullptr;
    void* m_original = nullptr;
};
