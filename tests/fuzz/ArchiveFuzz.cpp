// Hostile ".mc" bytes in: a loaded document or a typed archive error out, never a crash.
#include <cstddef>
#include <cstdint>
#include <span>

#include "analytical/GMLGenerator.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "platform/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CKorvaneDoc doc;
    try {
        CArchive ar(std::span<const std::uint8_t>(data, size), ModelClassRegistry());
        doc.Serialize(ar);
    } catch (const CArchiveError&) {
        return 0;
    }
    // Whatever was accepted must be usable: walk it, write its texts and store it again.
    for (CWidget* w : doc.GetWidgetsInOrder()) {
        (void)w->GetNDLDefinition();
        (void)w->GetGMLRecord();
        (void)w->HitTest(CPoint(0, 0));
    }
    // What a user does next with an opened file: check it and write both engines' texts.
    CNDLGenerator ndl(&doc);
    if (ndl.Validate())
        ndl.Generate();
    CGMLGenerator gml(&doc);
    if (gml.Validate())
        gml.Generate();
    CArchive out;
    doc.Serialize(out);
    return 0;
}
