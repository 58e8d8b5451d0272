#pragma once
// The production job the IPP tests send: a saddle-stitched booklet with
// covers, inserts, page exceptions, offset stacking, a page range and the
// operator's texts, optionally held as a proof.
#include <cstdint>
#include <string>

#include "settings/job_document.h"
#include "settings/job_settings.h"

namespace orvox::test {

inline void makeProductionBooklet(JobDocument& doc, std::int16_t model, bool proofHold, const std::string& deliverTo)
{
    doc.setPrinterModel(model);
    doc.setCopyCount(25);
    doc.setCollate(1);
    doc.setPrintingMode(stored(PrintingMode::Pamphlets));
    doc.setDocumentExit(stored(DocumentExit::BookletMaker));
    doc.setStaplingMode(stored(StaplingMode::Saddle));
    doc.setFoldMode(stored(FoldMode::SaddleFold));
    doc.setTrimEdges(1);
    doc.setStackingMode(stored(StackingMode::Offset));
    doc.setSubstitutionsActive(1);
    doc.setFrontCover(stored(CoverMode::PrintSide1));
    doc.setFrontCoverPaper(4);
    doc.setBackCover(stored(CoverMode::PrePrintedBlank));
    doc.setBackCoverPaper(2);
    doc.addSubstitution(3, 0, "2..5 ^7 12^");
    doc.addSubstitution(5, 0, "9");
    if (proofHold) doc.setProofSet(1);
    doc.setPrintPageRange(1);
    doc.setPageRangeFrom(1);
    doc.setPageRangeTo(40);
    doc.setDeliverTo(deliverTo);
    doc.setOperatorMessage("Use the (good) stock: 100%");
    doc.setChargeNumber("CC-17");
}

} // namespace orvox::test
