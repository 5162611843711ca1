#pragma once
// CFkArraysDlg: the holder of the two-dimensional DFT's input and output matrices (a dialog
// class that is never shown; nothing but its matrices and routines is used).

#include "base/matrix2d.h"

namespace velk {

class CFkArraysDlg {
public:
    // Zero-filled input and output matrices of rows x columns floats (rows 0..rows-1, columns
    // 0..columns-1); sizes below 1 are taken as 1. Throws std::bad_alloc when the memory is
    // not there.
    CFkArraysDlg(int rows, int columns);

    // out[i][j] = | sum_k sum_l in[k][l] e^(-2 pi i (k i / K + l j / L)) | for i < K, j < L
    // (K, L limited to the matrices). Computed separably, DFTs along the rows and then along
    // the columns, with double twiddles indexed modulo K and L: equal to the direct double sum
    // to rounding, in O(K L (K + L)).
    void Dft2dMagnitude(int k, int l);

    // Row `row` of the input := count values rounded to float; returns the number written
    // (limited to the matrix, 0 for a row outside it).
    int SetInputRow(const double* values, int row, int count);
    // count values := row `row` of the output; returns the number read (limited likewise).
    int GetOutputRow(double* values, int row, int count) const;

    Matrix2D<float>& Input() { return input_; }
    const Matrix2D<float>& Output() const { return output_; }

private:
    Matrix2D<float> output_;
    Matrix2D<float> input_;
};

}  // namespace velk
