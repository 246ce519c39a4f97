// Replaced as soon as the foundation has sources of its own.
namespace tavel { int inventory_core_placeholder = 0; }
