// metric.dll: the interface metric query.
