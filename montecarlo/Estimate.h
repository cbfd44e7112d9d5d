// One result quantity of a run: weighted mean, relative error of the mean and histogram.
#pragma once

#include <cstdint>

#include "montecarlo/Pdf.h"

class COutput;

class CEstimate {
public:
    void Init(int slotCount, int exactLimit, double width);

    void Add(double x, double w)
    {
        m_weights += w;
        m_sum += x * w;
        m_squares += x * x * w;
        m_pdf.Add(x, w);
    }

    // As `count` calls of Add(0.0, 1.0), to the bit.
    void AddZeros(std::uint64_t count);
    double GetMean() const { return m_weights == 0.0 ? 0.0 : m_sum / m_weights; }
    // Standard error of the mean over the mean, the weight sum standing for the sample count;
    // 0 without samples or with mean 0, and never NaN (a variance that rounds below 0 is 0).
    double GetRelativeError() const;

    void WriteHtml(COutput& output, unsigned level) { m_pdf.WriteHtml(output, level); }
    // Releases the histogram; the sums stay.
    void Free() { m_pdf.Free(); }

    double GetWeight() const { return m_weights; }
    const CPdf& GetPdf() const { return m_pdf; }

private:
    double m_weights = 0.0;
    double m_sum = 0.0;
    double m_squares = 0.0;
    CPdf m_pdf;
};
