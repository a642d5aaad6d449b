g90 g01 x1 y1 (cut) ; note
g02 x2 y0 i1 j0
G3 X2 Y0 I-1
X5 Y5
F12.5 G1 Z-1
%
