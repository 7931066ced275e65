#include "toolkit/GetCMDLine.h"

#include <oleauto.h>

#include <vector>

#include "gui/Handles.h"

namespace {

struct ProcessBasicInformation32 {  // the 24-byte record of information class 0
    LONG ExitStatus;
    DWORD PebBaseAddress;
    DWORD AffinityMask;
    LONG BasePriority;
    DWORD UniqueProcessId;
    DWORD InheritedFromUniqueProcessId;
};
static_assert(sizeof(ProcessBasicInformation32) == 24);

struct CountedString32 {  // length in bytes, maximum length, address of the characters
    USHORT Length;
    USHORT MaximumLength;
    DWORD Buffer;
};
static_assert(sizeof(CountedString32) == 8);

using NtQueryInformationProcessFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

bool ReadRemote(HANDLE process, uintptr_t address, void* out, size_t size) {
    SIZE_T read = 0;
    return ::ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), out, size, &read) &&
           read == size;
}

// One late-bound call on a scripting object: a method with string or
// integer arguments, or a property read. The result in `result`.
bool Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT>& args,
            VARIANT& result) {
    DISPID id = 0;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    // Arguments go in reverse order.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    ::VariantInit(&result);
    return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result,
                                    nullptr, nullptr));
}

VARIANT BstrArg(const std::wstring& s) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocString(s.c_str());
    return v;
}

void ClearArgs(std::vector<VARIANT>& args) {
    for (VARIANT& v : args) ::VariantClear(&v);
    args.clear();
}

// The IDispatch held in a method's result, or an empty pointer.
gui::ComPtr<IDispatch> DispatchOf(VARIANT& v) {
    gui::ComPtr<IDispatch> out;
    if (v.vt == VT_DISPATCH && v.pdispVal) {
        v.pdispVal->AddRef();
        *out.put() = v.pdispVal;
    }
    ::VariantClear(&v);
    return out;
}

}  // namespace

uintptr_t QueryProcessPEB(HANDLE process) {
    gui::Module ntdll(::LoadLibraryW(L"NTDLL.DLL"));
    if (!ntdll) return 0;
    auto query = reinterpret_cast<NtQueryInformationProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll.get(), "NtQueryInformationProcess")));
    if (!query) return 0;
    ProcessBasicInformation32 info{};
    ULONG length = 0;
    if (query(process, 0, &info, sizeof(info), &length) < 0) return 0;
    return info.PebBaseAddress;
}

void GetCMDLineByPEB(HWND wnd, std::wstring& cmdLine) {
    cmdLine.clear();
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    gui::Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process) return;
    uintptr_t peb = QueryProcessPEB(process.get());
    if (!peb) return;
    DWORD parameters = 0;
    if (!ReadRemote(process.get(), peb + 0x10, &parameters, sizeof(parameters)) || !parameters)
        return;
    CountedString32 line{};
    if (!ReadRemote(process.get(), parameters + 0x40, &line, sizeof(line))) return;
    // 522 bytes (261 characters) or more are left to WMI.
    if (line.Length >= 522 || line.Length == 0 || !line.Buffer) return;
    std::wstring text(line.Length / 2, L'\0');
    if (!ReadRemote(process.get(), line.Buffer, text.data(), text.size() * 2)) return;
    cmdLine = std::move(text);
}

void GetCMDLineWMIQuery(DWORD processId, std::wstring& cmdLine) {
    cmdLine.clear();
    CLSID clsid;
    if (FAILED(::CLSIDFromProgID(L"WbemScripting.SWbemLocator", &clsid))) return;
    gui::ComPtr<IDispatch> locator;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                  IID_IDispatch, reinterpret_cast<void**>(locator.put()))) ||
        !locator)
        return;
    std::vector<VARIANT> args;
    VARIANT result;
    args.push_back(BstrArg(L"."));
    args.push_back(BstrArg(L"root\\CIMV2"));
    bool ok = Invoke(locator.get(), L"ConnectServer", DISPATCH_METHOD, args, result);
    ClearArgs(args);
    if (!ok) return;
    gui::ComPtr<IDispatch> services = DispatchOf(result);
    if (!services) return;
    wchar_t path[64];
    ::swprintf(path, 64, L"Win32_Process.Handle=\"%lu\"", static_cast<unsigned long>(processId));
    args.push_back(BstrArg(path));
    ok = Invoke(services.get(), L"Get", DISPATCH_METHOD, args, result);
    ClearArgs(args);
    if (!ok) return;
    gui::ComPtr<IDispatch> process = DispatchOf(result);
    if (!process) return;
    // Read as a script reads a property: some object models answer a plain
    // property get with E_NOTIMPL.
    if (!Invoke(process.get(), L"CommandLine", DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, result)) return;
    if (result.vt == VT_BSTR && result.bstrVal) cmdLine = result.bstrVal;
    ::VariantClear(&result);
}

void GetCMDLineByWMI(HWND wnd, std::wstring& cmdLine) {
    cmdLine.clear();
    gui::ComScope com;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid) GetCMDLineWMIQuery(pid, cmdLine);
}

std::wstring CutCMDLineOptions(const std::wstring& cmdLine, const std::wstring& exeName) {
    const std::wstring quoted = L"\"" + exeName + L"\"";
    size_t cut;
    if (cmdLine.find(quoted + L" ") != std::wstring::npos)
        cut = exeName.size() + 3;
    else if (cmdLine.compare(0, quoted.size(), quoted) == 0)
        cut = quoted.size();  // a quoted path without arguments leaves no stray quote
    else
        cut = exeName.size();
    return cut < cmdLine.size() ? cmdLine.substr(cut) : std::wstring();
}

std::wstring GetCMDLineOptions(HWND wnd, const std::wstring& exeName) {
    if (!::IsWindow(wnd)) return {};
    std::wstring line;
    GetCMDLineByPEB(wnd, line);
    if (line.empty()) GetCMDLineByWMI(wnd, line);
    return CutCMDLineOptions(line, exeName);
}
