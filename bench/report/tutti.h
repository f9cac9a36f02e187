#pragma once
// The thirteen-column landscape listing that prints every field of a CD on one line.
class DataSet;
class Report;

void buildTutti(Report &report, DataSet *data);
