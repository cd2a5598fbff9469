"""Drawing of the client's skin, run by tools/make_skin.py."""
