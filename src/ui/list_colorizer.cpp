// filled in by its unit's work
