// CDataObject: the OLE data object that carries result files (a file-drop
// block) to the clipboard and to drop targets; it tells its listener when a
// paste target reports what it did with the files. CEnumFormatEtc lists its
// formats.
// Tested by tests/ui/shell_ops_gui_test.cpp.
#pragma once
// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on

#include <cstdint>
#include <vector>

namespace ui {

// Receives the drop effect a paste target reported on a clipboard object.
class IPasteListener {
 public:
  virtual void OnPastePerformed(std::uint32_t object_number, DWORD effect) = 0;

 protected:
  ~IPasteListener() = default;
};

// The "Performed DropEffect" clipboard format, registered once.
UINT PerformedDropEffectFormat();

class CDataObject final : public IDataObject {
 public:
  // Holds a copy of `data` as the HGLOBAL medium of `format`. `listener`
  // (may be null) hears of pastes on this object, which it knows as
  // `object_number`.
  CDataObject(const FORMATETC& format, const std::vector<std::uint8_t>& data,
              IPasteListener* listener, std::uint32_t object_number);

  // The listener is going away: later pastes are not reported.
  void DetachListener() { listener_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
  STDMETHODIMP DUnadvise(DWORD) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override;

 private:
  ~CDataObject();
  bool Matches(const FORMATETC& format) const;

  LONG refs_ = 1;
  FORMATETC format_;
  HGLOBAL data_ = nullptr;
  SIZE_T size_ = 0;
  IPasteListener* listener_;
  std::uint32_t number_;
};

class CEnumFormatEtc final : public IEnumFORMATETC {
 public:
  explicit CEnumFormatEtc(std::vector<FORMATETC> formats, ULONG next = 0)
      : formats_(std::move(formats)), next_(next) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumFORMATETC** copy) override;

 private:
  ~CEnumFormatEtc() = default;

  LONG refs_ = 1;
  std::vector<FORMATETC> formats_;
  ULONG next_;
};

}  // namespace ui
