# The entry listings and the check list, the actions on entries (writing new and edited ones too), all
# on throwaway prefixes; the listing of a prefix Wine made is the command line's Wine test.
sw_add_test(listing_test SOURCES entries/listing_test.cpp LIBS swcore)
sw_add_test(entry_actions_test SOURCES entries/entry_actions_test.cpp LIBS swcore)
# Boots Wine on a prefix wineboot made, with an entry in every place, and compares what Wine ran and
# removed with the table of places; skipped when Wine is not installed.
sw_add_test(wine_starts_test SOURCES entries/wine_starts_test.cpp LIBS swcore LABELS wine)
