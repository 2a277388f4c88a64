// The base of the link and clone classes: each class can name itself at run time and answer
// whether it is, or derives from, a given class.
#pragma once

namespace orven {

// One per class; classes chain to their base so that IsKindOf sees derivation.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
};

class CObject {
public:
    static constexpr CRuntimeClass classCObject{"CObject", nullptr};

    virtual ~CObject();
    virtual const CRuntimeClass* GetRuntimeClass() const;

    bool IsKindOf(const CRuntimeClass* cls) const;
    const char* ClassName() const;
};

}  // namespace orven

// Put inside the body of a class derived (directly) from `base`; gives it the static
// class##name record and the GetRuntimeClass override. Leaves the access at public.
#define ORVEN_RUNTIME_CLASS(name, base)                                             \
public:                                                                             \
    static constexpr ::orven::CRuntimeClass class##name{#name, &base::class##base}; \
    const ::orven::CRuntimeClass* GetRuntimeClass() const override { return &class##name; }
