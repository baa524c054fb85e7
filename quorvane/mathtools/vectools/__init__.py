"""Three-vector routines for compiled callers (see vectools.h)."""
