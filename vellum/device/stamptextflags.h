#ifndef STAMPTEXTFLAGS_H
#define STAMPTEXTFLAGS_H

// Format codes of the imprinter's text template, one byte each inside the
// stamp block. Values outside the named ones may be found in files; readers
// treat them as described at each enumeration.

// Date format; anything else renders nothing.
enum StampTextDateFormatFlag : int {
    StampDateDDMMYYYY = 0,
    StampDateDDD = 1,
    StampDateMMDDYYYY = 2,
    StampDateYYYYDDD = 3,
    StampDateYYYYMMDD = 4,
    StampDateDDMMYY = 5,
    StampDateMMDDYY = 6,
    StampDateYYDDD = 7,
    StampDateYYMMDD = 8,
};

// Date delimiter; anything else counts as none.
enum StampTextDateDelimiterFlag : int {
    StampDelimiterNone = 0,
    StampDelimiterSpace = 1,
    StampDelimiterSlash = 2,
    StampDelimiterHyphen = 3,
    StampDelimiterPeriod = 4,
};

// Time format; anything else renders nothing.
enum StampTextTimeFormatFlag : int {
    StampTimeHHmm = 0,
    StampTimehhmm = 1,
    StampTimeHHmmss = 2,
    StampTimehhmmss = 3,
    StampTimeHHmmssxx = 4,
    StampTimehhmmssxx = 5,
    StampTimehhmmtt = 6,
    StampTimehhmmsstt = 7,
    StampTimehhmmssxxtt = 8,
};

// What the counter prints in place of leading zeros; anything else renders
// nothing.
enum StampTextIndexFormatFlag : int {
    StampIndexSpaces = 0,
    StampIndexHidden = 1,
    StampIndexZeros = 2,
};

#endif
